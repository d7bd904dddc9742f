// cPediaState (state 7): the encyclopedia. One page per species with the
// animal idling on a page background, its name and a description, and a
// last page about the poacher with text only. Pages open as the player
// completes levels. Threads: loadResources and freeResources run with the
// screens' resources (loading thread); the rest on the main thread.
#pragma once

#include <cstdint>
#include <memory>

#include "game/app/gamestate.h"

class aAdvAnim;
class aImage;
class cPlayerProfile;
namespace GUI {
class ButtonBase;
class EventArgs;
class Server;
class Widget;
} // namespace GUI

class cPediaState : public cGameState {
public:
    static constexpr uint16_t ANIMAL_PAGES = 6;
    static constexpr uint16_t PAGE_COUNT = 7;
    static constexpr float TEXT_FADE_SPEED = 5.0f;

    // How many animal pages the player's completed levels open (1 to 6; 1 without a profile).
    static uint16_t openPagesFor(const cPlayerProfile* profile);

    cPediaState();
    ~cPediaState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;
    void loadResources() override;
    void freeResources() override;

    bool onBack(const GUI::EventArgs& args);
    bool onPage(const GUI::EventArgs& args);

    uint16_t getOpenPages() const { return m_openPages; }
    uint16_t getShownPage() const { return m_shownPage; }
    uint16_t getSelectedPage() const { return m_selectedPage; }
    float getTextAlpha() const;
    // Whether the page's animal can be drawn (both idle animations loaded).
    bool hasPageAnimal(uint16_t page) const;
    // The idle the shown page's animal plays or rests on; null on a page without an animal.
    const aAdvAnim* getShownIdle() const;

private:
    struct PageAnimal {
        int current = 0;
        std::unique_ptr<aAdvAnim> idle[2];
        aImage* shadow = nullptr;
        float pause = 0.0f;
    };

    void showPage(uint16_t page);
    void stepAnimal(float dt);
    void drawAnimal(float alpha);

    std::unique_ptr<aImage> m_screenImage;
    aImage* m_pageBackground = nullptr;
    std::unique_ptr<GUI::Server> m_gui;
    GUI::Widget* m_descText = nullptr;
    GUI::Widget* m_nameText = nullptr;
    uint16_t m_shownPage = 0;
    uint16_t m_selectedPage = 0;
    uint16_t m_openPages = 1;
    PageAnimal m_animals[ANIMAL_PAGES];
    GUI::ButtonBase* m_pageButtons[PAGE_COUNT] = {};
};
