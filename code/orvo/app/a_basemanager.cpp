#include "orvo/app/a_basemanager.h"

#include <utility>

#include "orvo/app/a_file.h"
#include "orvo/util/a_log.h"

aBaseManager::~aBaseManager() = default;

void aBaseManager::cacheList(const std::string& path)
{
    if (path == m_listPath)
        return;
    m_list.clear();
    m_list.load(path.c_str());
    m_listPath = path;
}

uint16_t aBaseManager::getListCount(const std::string& path)
{
    cacheList(path);
    const uint32_t count = m_list.count();
    return static_cast<uint16_t>(count > 0xFFFF ? 0xFFFF : count);
}

uint32_t aBaseManager::linesToWalk(const std::string& path)
{
    const uint32_t count = getListCount(path);
    if (count > MAX_LIST_LINES) {
        a_log("aBaseManager. List \"%s\" has more than %u lines, nothing loaded", path.c_str(), MAX_LIST_LINES);
        return 0;
    }
    return count;
}

void aBaseManager::loadList(const std::string& path, const std::string& listName)
{
    cacheList(path);
    const std::string folder = file_getPath(path.c_str());
    // A copy: loading an item may read another list into the cache.
    const std::vector<std::string> lines = m_list.lines();
    const uint32_t n = linesToWalk(path);
    for (uint32_t i = 0; i < n && i < lines.size(); ++i)
        loadItem(folder, lines[i], listName);
}

void aBaseManager::unloadList(const std::string& path, const std::string& listName)
{
    cacheList(path);
    const std::vector<std::string> lines = m_list.lines();
    for (const std::string& line : lines)
        unloadItem(line, listName);
}

void aBaseManager::collectFiles(const std::string& path, std::vector<std::string>& files)
{
    cacheList(path);
    const std::string folder = file_getPath(path.c_str());
    const std::vector<std::string> lines = m_list.lines();
    for (const std::string& line : lines)
        files.push_back(folder + getItemFile(line));
}

std::string aBaseManager::getFullPath(const Task& task)
{
    return task.folder + task.file;
}

void aBaseManager::AddFileToTask(const std::string& folder, const std::string& line, const std::string& listName)
{
    m_tasks.push_back(Task{listName, getItemFile(line), line, folder});
    const std::string path = getFullPath(m_tasks.back());
    if (m_queued.count(path))
        a_log("aBaseManager::AddFileToTask : Iterative adding file to task  \"%s\"", path.c_str());
    m_queued.insert(path);
}

void aBaseManager::AddListToTask(const std::string& path, const std::string& listName)
{
    std::vector<std::string> files;
    collectFiles(path, files);
    cacheList(path);
    const std::string folder = file_getPath(path.c_str());
    const std::vector<std::string> lines = m_list.lines();
    const uint32_t n = linesToWalk(path);
    for (uint32_t i = 0; i < n && i < lines.size(); ++i) {
        AddFileToTask(folder, lines[i], listName);
        if (i >= files.size()) {
            a_log("aBaseManager::AddListToTask decode error! \"%s\"", path.c_str());
            return;
        }
    }
}

void aBaseManager::runTasks()
{
    // Taken out first: an item that queues more work while it loads queues
    // it for the next run instead of changing the list being walked.
    std::list<Task> tasks = std::exchange(m_tasks, {});
    m_queued.clear();
    for (const Task& task : tasks)
        loadItem(task.folder, task.line, task.listName);
}
