// cGame: volumes, sound effects, music tracks, money texts and animal kinds.
#include "game/app/game.h"
#include "game/app/playerprofile.h"
#include "orvo/sound/a_musicmanager.h"
#include "orvo/sound/a_soundmanager.h"
#include "orvo/util/a_crc32.h"
#include "orvo/util/a_format.h"
#include "orvo/util/a_math.h"

float cGame::getSoundVolume() const
{
    return getCurrentProfile() ? getCurrentProfile()->getSoundVolume() : cPlayerProfile::DEFAULT_VOLUME;
}

float cGame::getMusicVolume() const
{
    return getCurrentProfile() ? getCurrentProfile()->getMusicVolume() : cPlayerProfile::DEFAULT_VOLUME;
}

void cGame::setSoundVolume(float v)
{
    v = aMath::clampUnit(v);
    if (getCurrentProfile())
        getCurrentProfile()->setSoundVolume(v);
    if (m_soundManager)
        m_soundManager->setVolume(v);
}

void cGame::setMusicVolume(float v)
{
    v = aMath::clampUnit(v);
    if (getCurrentProfile())
        getCurrentProfile()->setMusicVolume(v);
    if (m_musicManager)
        m_musicManager->setVolume(v);
}

bool cGame::playSound(const std::string& name)
{
    if (loadingThreadRuns() || !m_soundManager || !m_soundManager->hasSound(name))
        return false;
    aSound* sound = m_soundManager->getSound(name);
    if (!sound)
        return false;
    sound->play(false, -1.0f, -2.0f);
    return true;
}

void cGame::playMusicTrack(uint16_t index)
{
    if (index >= m_playlist.size() || index == m_currentTrack)
        return;
    m_currentTrack = index;
    playCurrentMusic();
}

void cGame::playCurrentMusic()
{
    if (!m_musicManager || m_currentTrack >= m_playlist.size())
        return;
    m_musicManager->switchTo(m_playlist[m_currentTrack], getMusicVolume(), true, true);
}

void cGame::nextMusicTrack()
{
    if (m_playlist.empty())
        return;
    uint16_t next = static_cast<uint16_t>(m_currentTrack + 1);
    if (next >= m_playlist.size())
        next = m_playlist.size() == 1 ? 0 : 1;
    m_currentTrack = next;
    playCurrentMusic();
}

const std::wstring& cGame::getMoneySign()
{
    if (!m_moneySignKnown) {
        m_moneySign = getText("money_sign");
        m_moneySignKnown = true;
    }
    return m_moneySign;
}

const std::wstring& cGame::getMoneyFormat()
{
    if (m_moneyFormat.empty()) {
        // A "%" of the sign is text, never a directive.
        std::wstring sign;
        for (wchar_t c : getMoneySign()) {
            sign += c;
            if (c == L'%')
                sign += L'%';
        }
        m_moneyFormat = L"%d" + sign;
    }
    return m_moneyFormat;
}

const std::wstring& cGame::getMoneyGainFormat()
{
    if (m_moneyGainFormat.empty())
        m_moneyGainFormat = L"+" + getMoneyFormat();
    return m_moneyGainFormat;
}

std::wstring cGame::formatMoney(int32_t amount)
{
    return string_formatData(getMoneyFormat(), {static_cast<int>(amount)});
}

std::wstring cGame::formatMoneyGain(int32_t amount)
{
    return string_formatData(getMoneyGainFormat(), {static_cast<int>(amount)});
}

void cGame::registerAnimalKind(const std::string& name, uint16_t mask)
{
    const uint32_t hash = crc32_string(name);
    for (const AnimalKindRequest& kind : m_animalKindsToLoad)
        if (kind.hash == hash)
            return;
    m_animalKindsToLoad.push_back({name, mask, hash});
}
