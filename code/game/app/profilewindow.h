// cProfileWindow: the main menu's player chooser. "Profiles_win" lists up to
// nine players (one check box each, the current one ticked) with "New",
// "Delete" and "Close"; "NewPlayer_win" asks a new player's name. Every
// change is saved at once. One, owned by the menu state and made in its
// init once its layout is read; main thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace GUI {
class Checkbox;
class EventArgs;
class Widget;
} // namespace GUI
class cPlayerProfile;
class cProfiles;

class cProfileWindow {
public:
    static constexpr size_t MAX_PROFILES = 9;

    cProfileWindow() = default;
    ~cProfileWindow();
    cProfileWindow(const cProfileWindow&) = delete;
    cProfileWindow& operator=(const cProfileWindow&) = delete;

    // The window that waits for a delete confirmation; null when none exists.
    static cProfileWindow* get();

    // Finds the two windows under `root`, binds their controls and becomes the instance.
    void create(GUI::Widget* root);
    // Asks for a name instead when there is no player yet.
    void open();
    void openNewPlayer();
    void update(float dt);
    void fillList();

    bool onClose(const GUI::EventArgs& args);
    bool onNew(const GUI::EventArgs& args);
    bool onDelete(const GUI::EventArgs& args);
    bool onEntryClick(const GUI::EventArgs& args);
    bool onEntryDoubleClick(const GUI::EventArgs& args);
    bool onNewPlayerOk(const GUI::EventArgs& args);
    bool onNewPlayerCancel(const GUI::EventArgs& args);
    bool onNameChanged(const GUI::EventArgs& args);
    // The message box's "Yes" to deleting the pending profile.
    static void onDeleteConfirmed();

    GUI::Widget* getListWindow() const { return m_list; }
    GUI::Widget* getNewPlayerWindow() const { return m_newPlayer; }
    bool isListOpening() const { return m_listOpening; }
    bool isNewPlayerOpening() const { return m_newPlayerOpening; }
    const std::vector<GUI::Checkbox*>& getEntries() const { return m_entries; }

private:
    void updateButtons();
    // The first ticked line, or -1.
    int checkedEntry() const;
    void tick(GUI::Checkbox* entry);
    void createNewPlayer();
    void fade(GUI::Widget* window, bool opening, float dt);
    GUI::Widget* listControl(const char* name) const;
    GUI::Widget* newPlayerControl(const char* name) const;

    GUI::Widget* m_list = nullptr;
    GUI::Widget* m_newPlayer = nullptr;
    GUI::Widget* m_nameBox = nullptr;
    GUI::Widget* m_ok = nullptr;
    GUI::Widget* m_warning = nullptr;
    std::wstring m_warningText; // the layout's text: a name that is taken
    cProfiles* m_profiles = nullptr;
    bool m_listOpening = false;
    bool m_newPlayerOpening = false;
    std::vector<GUI::Checkbox*> m_entries;
};
