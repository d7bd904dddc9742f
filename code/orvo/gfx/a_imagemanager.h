// The resource manager of images. Each line of an image list names one
// image: "<file>.<ext> <format16> <format32>", the formats by name ("1555",
// "4444", "0565", "8888"). An image is kept under its name (the line up to
// its last ".", folders included), or "name:list" when it was loaded with a
// list name, until its line is unloaded or the manager goes; a second line
// with the same key is ignored. The application keeps one manager for the
// whole run and one for the current screen.
// Filled on the loading thread, looked up on the main thread after the load;
// takes no lock.
#pragma once

#include <map>
#include <string>

#include "orvo/app/a_basemanager.h"
#include "orvo/gfx/a_image.h"

class aImageManager : public aBaseManager {
public:
    aImageManager() = default;
    ~aImageManager() override;

    void loadItem(const std::string& folder, const std::string& line, const std::string& listName) override;
    std::string getItemFile(const std::string& line) override;
    bool unloadItem(const std::string& line, const std::string& listName) override;

    // The stored handle (valid until its item is unloaded; copy it to keep
    // the image longer), or null with a logged message.
    aImage* getImage(const std::string& name, const std::string& listName = "");
    bool hasImage(const std::string& name, const std::string& listName = "") const;

    // The format code of a name of the format table; Unknown for any other text.
    static aGpuFormat formatByName(const std::string& name);
    size_t getCount() const { return m_images.size(); }

private:
    std::map<std::string, aImage> m_images;
};
