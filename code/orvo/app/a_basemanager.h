// The base of the resource managers (images, sounds, music). Resources are
// named by resource lists: text files with one item a line, read through
// aStringList, whose line format belongs to the derived manager. A list is
// loaded at once (loadList), or queued as loading tasks (AddListToTask) that
// runTasks later loads in one batch, or unloaded item by item (unloadList).
// Items are always read from the list file's own folder.
//
// Owned by the application; the derived managers fill it on the loading
// thread and use it on the main thread, never both at once. No lock here:
// a manager with a thread of its own locks in its overrides.
#pragma once

#include <cstdint>
#include <list>
#include <set>
#include <string>
#include <vector>

#include "orvo/util/a_root.h"
#include "orvo/util/a_stringlist.h"

class aBaseManager : public aRoot {
public:
    // Called by the derived managers after a new item was registered.
    using ItemLoadedHook = void (*)(const char* item);

    // One queued item.
    struct Task {
        std::string listName; // the list name it was queued with (may be "")
        std::string file;     // the item's file as getItemFile reads it from the line
        std::string line;     // the whole list line
        std::string folder;   // the list file's folder, ending in its separator
    };

    // Lists longer than this load and queue nothing.
    static constexpr uint32_t MAX_LIST_LINES = 32768;

    aBaseManager() = default;
    ~aBaseManager() override;
    aBaseManager(const aBaseManager&) = delete;
    aBaseManager& operator=(const aBaseManager&) = delete;

    // Queues one item of a list read from `folder`.
    virtual void AddFileToTask(const std::string& folder, const std::string& line, const std::string& listName);
    // Loads every item of the list at once.
    virtual void loadList(const std::string& path, const std::string& listName = "");
    // Caches the list; its number of lines (65535 for any longer list).
    virtual uint16_t getListCount(const std::string& path);
    // Removes the item the line names; true when there was one.
    virtual bool unloadItem(const std::string& line, const std::string& listName) = 0;
    // unloadItem for every line of the list, in order.
    virtual void unloadList(const std::string& path, const std::string& listName = "");
    // Appends the full path (folder + item file) of every line of the list.
    virtual void collectFiles(const std::string& path, std::vector<std::string>& files);
    // The file name the line names ("" with a logged error).
    virtual std::string getItemFile(const std::string& line) = 0;
    // Reads the list file unless it is the one read last (same path, exactly).
    virtual void cacheList(const std::string& path);
    // Loads the item the line names from `folder` and registers it.
    virtual void loadItem(const std::string& folder, const std::string& line, const std::string& listName) = 0;
    virtual std::string getFullPath(const Task& task);

    // Queues every item of the list.
    void AddListToTask(const std::string& path, const std::string& listName = "");
    // Loads every queued item in queue order, then empties the queue.
    void runTasks();

    void setItemLoadedHook(ItemLoadedHook hook) { m_itemLoaded = hook; }
    const std::list<Task>& getTasks() const { return m_tasks; }

protected:
    ItemLoadedHook m_itemLoaded = nullptr;

private:
    // The number of lines to walk, or 0 (logged) for a list that is too long.
    uint32_t linesToWalk(const std::string& path);

    aStringList m_list;
    std::string m_listPath;
    std::set<std::string> m_queued;
    std::list<Task> m_tasks;
};
