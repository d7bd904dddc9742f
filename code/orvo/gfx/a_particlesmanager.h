// Every particle effect of the game: the templates, one aParticleSystem per
// section of the particle list (an INI file whose sections name a definition
// file, optionally with an image and a part of it), and the live systems,
// copies of templates that play on the screen, grouped by layer ids the
// caller chooses.
//
// The manager owns templates and live systems. It is made (and Add may run)
// on the loading thread while the main thread draws only the loading screen;
// everything else runs on the main thread. There is no lock.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>

class aImageManager;
class aParticleSystem;

class aParticlesManager {
public:
    struct SystemEntry {
        std::unique_ptr<aParticleSystem> system;
        bool removeWhenFinished = false;
        int32_t layer = 0;
        uint64_t id = 0; // see idOf
    };
    using EntryList = std::list<SystemEntry>;

    // Reads the particle list at `listPath`; definition files are named
    // relative to `folder`. Pictures are looked up in `images` (may be null)
    // within `listName` ("" for none).
    aParticlesManager(const std::string& listPath, const std::string& folder, aImageManager* images,
                      const std::string& listName);
    ~aParticlesManager();
    aParticlesManager(const aParticlesManager&) = delete;
    aParticlesManager& operator=(const aParticlesManager&) = delete;

    // A new live copy of the named template at (x, y), started at once when
    // `restart` is set. The manager keeps it; the pointer stays valid until
    // remove, killAll, the manager's destruction or, with
    // `removeWhenFinished`, the layer update that finds it done. Null (and
    // a log line) for an unknown name.
    aParticleSystem* Add(const std::string& name, float x, float y, int32_t layer, bool removeWhenFinished,
                         bool restart);

    // Layer lists end at the first -1 (a -1 is added after the last id):
    // updateLayers(dt, 2, 0, -1). Each id is handled in turn, so an id named
    // twice is updated twice.
    template <typename... Layers> void updateLayers(float dt, Layers... layers)
    {
        const int32_t list[] = {static_cast<int32_t>(layers)..., -1};
        updateLayerList(dt, list);
    }
    template <typename... Layers> void renderLayers(Layers... layers)
    {
        const int32_t list[] = {static_cast<int32_t>(layers)..., -1};
        renderLayerList(list);
    }
    // `layers` runs up to a -1.
    void updateLayerList(float dt, const int32_t* layers);
    void renderLayerList(const int32_t* layers);
    void renderAll();

    // Destroys every live system; templates stay.
    void killAll();
    // Destroys a live system; one the manager does not hold is ignored.
    void remove(aParticleSystem* system);
    // A number that names a live system while the manager holds it and never
    // another one (0 for a system it does not hold): a holder that does not
    // know when the manager drops its system (removed when finished, killed)
    // keeps this and finds the system again, or learns it is gone.
    uint64_t idOf(const aParticleSystem* system) const;
    // The live system of that number; null once the manager dropped it.
    aParticleSystem* findLive(uint64_t id) const;

    const EntryList& getLiveSystems() const { return m_live; }
    const aParticleSystem* getTemplate(const std::string& name) const;
    size_t getTemplateCount() const { return m_templates.size(); }

private:
    EntryList::iterator find(const aParticleSystem* system);
    EntryList::iterator erase(EntryList::iterator entry);

    EntryList m_live;
    uint64_t m_lastId = 0;
    std::map<std::string, std::unique_ptr<aParticleSystem>> m_templates;
};
