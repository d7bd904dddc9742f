// cGame: "config.ini", "data:game.ini" and the music playlist.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "game/app/game.h"
#include "game/park/drawelement.h"
#include "orvo/app/a_file.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/sound/a_musicmanager.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_stringlist.h"

namespace {

// Window sizes outside these bounds cannot be meant.
constexpr int32_t kMinScreenWidth = 320;
constexpr int32_t kMinScreenHeight = 240;
constexpr int32_t kMaxScreenSide = 8192;
// Beyond these the gamma ramp turns the picture all white, all black or flat.
constexpr float kMaxBrightness = 0.5f;
constexpr float kMinContrast = -0.5f;
constexpr float kMaxContrast = 1.0f;

// The leading decimal number of a text; 0.0 when there is none.
float leadingFloat(const std::string& text)
{
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

bool inRange(float v, float lo, float hi)
{
    return std::isfinite(v) && v >= lo && v <= hi;
}

// A gamma setting of the VIDEO section; one out of its range is put back to
// its default alone, so a good neighbour survives the next save.
float gammaValue(const aOptionsFile& ini, const char* key, float lo, float hi, float fallback, const std::string& path)
{
    const float v = leadingFloat(ini.getString(key));
    if (inRange(v, lo, hi))
        return v;
    a_log("cGame. %s %f in \"%s\" is not usable; %f is used", key, double(v), path.c_str(), double(fallback));
    return fallback;
}

} // namespace

void cGame::loadSettings(const std::string& path)
{
    // Saves that a kill interrupted left their temporary files behind.
    file_removeStaleTemps(path.c_str());
    aOptionsFile ini;
    bool loaded = false;
    if (file_nameTaken(path.c_str())) {
        aFileBuffer bytes(path.c_str());
        const int why = errno;
        if (!bytes.empty()) {
            ini.parse(bytes.bytes(), bytes.size(), path.c_str());
            loaded = true;
        } else if (why != 0) {
            // The defaults are used as for a first start, and the exit writes the file anew; the log says why.
            a_log("cGame. Cannot read \"%s\" (%s); the default settings are used", path.c_str(), std::strerror(why));
        }
    }
    const cSettings defaults;
    cSettings& s = m_settings;

    if (loaded && ini.setSection("VIDEO")) {
        const int32_t width = ini.getInt("ScreenWidth");
        const int32_t height = ini.getInt("ScreenHeight");
        if (width < kMinScreenWidth || height < kMinScreenHeight || width > kMaxScreenSide || height > kMaxScreenSide) {
            a_log("cGame. Screen size %dx%d in \"%s\" is not usable; %ux%u is used", static_cast<int>(width),
                  static_cast<int>(height), path.c_str(), unsigned(defaults.screenWidth),
                  unsigned(defaults.screenHeight));
            s.screenWidth = defaults.screenWidth;
            s.screenHeight = defaults.screenHeight;
        } else {
            s.screenWidth = static_cast<uint16_t>(width);
            s.screenHeight = static_cast<uint16_t>(height);
        }
        s.vsync = ini.getInt("VSync") > 0;
        s.highColor = ini.getInt("HighColor") > 0;
        s.showFps = ini.getInt("ShowFPS") > 0;
        s.brightness = gammaValue(ini, "Brightness", -kMaxBrightness, kMaxBrightness, defaults.brightness, path);
        s.contrast = gammaValue(ini, "Contrast", kMinContrast, kMaxContrast, defaults.contrast, path);
    } else {
        s.screenWidth = defaults.screenWidth;
        s.screenHeight = defaults.screenHeight;
        s.vsync = defaults.vsync;
        s.highColor = defaults.highColor;
        s.showFps = defaults.showFps;
        s.brightness = defaults.brightness;
        s.contrast = defaults.contrast;
    }

    if (loaded && ini.setSection("COMMON")) {
        s.loadingScene = static_cast<uint16_t>(ini.getInt("LoadingScene"));
        s.splashScreen = ini.getInt("SplashScreen") > 0;
    } else {
        s.loadingScene = 0;
        s.splashScreen = true;
    }
}

bool cGame::saveSettings(const std::string& path) const
{
    const cSettings& s = m_settings;
    aOptionsFile ini;
    ini.addSection("VIDEO");
    ini.setInt("VIDEO", "ScreenWidth", static_cast<int16_t>(s.screenWidth));
    ini.setInt("VIDEO", "ScreenHeight", static_cast<int16_t>(s.screenHeight));
    ini.setInt("VIDEO", "VSync", s.vsync ? 1 : 0);
    ini.setInt("VIDEO", "HighColor", s.highColor ? 1 : 0);
    ini.setInt("VIDEO", "ShowFPS", s.showFps ? 1 : 0);
    ini.setFloat("VIDEO", "Brightness", s.brightness);
    ini.setFloat("VIDEO", "Contrast", s.contrast);
    ini.addSection("COMMON");
    ini.setInt("COMMON", "LoadingScene", s.loadingScene);
    ini.setInt("COMMON", "SplashScreen", s.splashScreen ? 1 : 0);
    return ini.save(path.c_str());
}

void cGame::loadGameConfig(const std::string& path)
{
    aOptionsFile ini;
    const bool loaded = file_exists(path.c_str()) && ini.loadFile(path.c_str());
    const cSettings defaults;
    cSettings& s = m_settings;

    if (loaded && ini.setSection("GAMEPLAY")) {
        s.animalRiseInPrice = ini.getInt("AnimalRiseInPrice");
        s.sellAdditionValue = ini.getInt("SellAdditionValue");
        s.buyAdditionValue = ini.getInt("BuyAdditionValue");
        s.animalSellCoeff = ini.getInt("AnimalSellCoeff");
        s.oldAnimalProducingCoeff = ini.getInt("OldAnimalProducingCoeff");
        s.easterEggClickCount = ini.getInt("EasterEggClickCount");
        s.maxDoneUpgradesAtOnce = ini.getInt("MaxDoneUpgradesAtOnce");
        s.maxProducingCount = ini.getInt("MaxProducingCount");
    } else {
        s.animalRiseInPrice = defaults.animalRiseInPrice;
        s.sellAdditionValue = defaults.sellAdditionValue;
        s.buyAdditionValue = defaults.buyAdditionValue;
        s.animalSellCoeff = defaults.animalSellCoeff;
        s.oldAnimalProducingCoeff = defaults.oldAnimalProducingCoeff;
        s.easterEggClickCount = defaults.easterEggClickCount;
        s.maxDoneUpgradesAtOnce = defaults.maxDoneUpgradesAtOnce;
        s.maxProducingCount = defaults.maxProducingCount;
    }
    s.maxProducingCountCopy = s.maxProducingCount;

    if (loaded && ini.setSection("COMMON")) {
        s.language = ini.getString("Language");
        s.openUrlOnQuit = ini.getString("OpenURLOnQuit");
    } else {
        s.language = defaults.language;
    }
    s.languageFolder = "data:Localization/" + s.language + "/";

    if (loaded && ini.setSection("RENDER")) {
        s.perspectiveStartDist = leadingFloat(ini.getString("PerspectiveCorrectionStartDist"));
        s.perspectiveStartScale = leadingFloat(ini.getString("PerspectiveCorrectionStartScale"));
        s.perspectiveEndDist = leadingFloat(ini.getString("PerspectiveCorrectionEndDist"));
    } else {
        s.perspectiveStartDist = defaults.perspectiveStartDist;
        s.perspectiveStartScale = defaults.perspectiveStartScale;
        s.perspectiveEndDist = defaults.perspectiveEndDist;
    }
    cDrawElement::setPerspective(s.perspectiveStartDist, s.perspectiveStartScale, s.perspectiveEndDist);

    if (loaded && ini.setSection("EVENTS")) {
        s.poachersCount = ini.getInt("PoachersCount");
        s.producingAnimalsCount = ini.getInt("ProducingAnimalsCount");
        s.hungryAnimalsCount = ini.getInt("HungryAnimalsCount");
    } else {
        s.poachersCount = 0;
        s.producingAnimalsCount = 0;
        s.hungryAnimalsCount = 0;
    }
}

void cGame::loadMusic()
{
    m_playlist.clear();
    const std::string path = "sounds:Music/playlist.list";
    if (!file_exists(path.c_str()))
        return;
    aStringList lines(path.c_str());
    for (const std::string& line : lines.lines()) {
        const std::string file = "sounds:Music/" + line;
        if (m_musicManager && !m_musicManager->addMusic(file))
            a_log("cGame. Music \"%s\" of the playlist cannot be opened", line.c_str());
        // The manager's own name for it, so the playlist finds the stream.
        m_playlist.push_back(aMusicManager::streamName(file));
    }
}
