#include "orvo/gfx/a_particlesmanager.h"

#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_imagemanager.h"
#include "orvo/gfx/a_particlesystem.h"
#include "orvo/util/a_geometry.h"
#include "orvo/util/a_log.h"

aParticlesManager::aParticlesManager(const std::string& listPath, const std::string& folder, aImageManager* images,
                                     const std::string& listName)
{
    aOptionsFile list(listPath.c_str());
    for (list.firstSection(); !list.isSectionEnd(); list.nextSection()) {
        // A section without "System" names the folder itself: nothing is
        // read and the template keeps every default.
        auto system = std::make_unique<aParticleSystem>(folder + list.getString("System"), images, listName);
        // A later section of the same name replaces (and frees) the earlier template.
        aParticleSystem& added = *system;
        m_templates[list.getSectionName()] = std::move(system);

        aRect source;
        const bool hasSource = list.findKey("Rect");
        if (hasSource)
            string_toRect(source, list.getString("Rect").c_str());
        // The list's picture replaces the definition's; an unknown name
        // (logged by the image manager) leaves the template without one.
        if (images && list.findKey("Image"))
            added.setImage(images->getImage(list.getString("Image"), listName), hasSource ? &source : nullptr);
    }
}

aParticlesManager::~aParticlesManager()
{
    m_live.clear();
    m_templates.clear();
}

aParticleSystem* aParticlesManager::Add(const std::string& name, float x, float y, int32_t layer,
                                        bool removeWhenFinished, bool restart)
{
    const auto it = m_templates.find(name);
    if (it == m_templates.end()) {
        a_log("aParticlesManager::Add() - system template '%s' not found!", name.c_str());
        return nullptr;
    }
    auto system = std::make_unique<aParticleSystem>(*it->second);
    system->reset();
    if (restart)
        system->restartAt(x, y);
    else
        system->setPosition(x, y);
    aParticleSystem* added = system.get();
    m_live.push_back({std::move(system), removeWhenFinished, layer, ++m_lastId});
    return added;
}

void aParticlesManager::updateLayerList(float dt, const int32_t* layers)
{
    for (; *layers != -1; ++layers) {
        for (auto entry = m_live.begin(); entry != m_live.end();) {
            if (entry->layer == *layers) {
                aParticleSystem& system = *entry->system;
                if (!system.isDone()) {
                    system.update(dt);
                } else if (entry->removeWhenFinished) {
                    entry = erase(entry);
                    continue;
                }
            }
            ++entry;
        }
    }
}

void aParticlesManager::renderLayerList(const int32_t* layers)
{
    for (; *layers != -1; ++layers)
        for (const SystemEntry& entry : m_live)
            if (entry.layer == *layers)
                entry.system->render();
}

void aParticlesManager::renderAll()
{
    for (const SystemEntry& entry : m_live)
        entry.system->render();
}

void aParticlesManager::killAll()
{
    m_live.clear();
}

void aParticlesManager::remove(aParticleSystem* system)
{
    const auto entry = find(system);
    if (entry != m_live.end())
        erase(entry);
}

uint64_t aParticlesManager::idOf(const aParticleSystem* system) const
{
    for (const SystemEntry& entry : m_live)
        if (entry.system.get() == system)
            return entry.id;
    return 0;
}

aParticleSystem* aParticlesManager::findLive(uint64_t id) const
{
    if (id == 0)
        return nullptr;
    for (const SystemEntry& entry : m_live)
        if (entry.id == id)
            return entry.system.get();
    return nullptr;
}

const aParticleSystem* aParticlesManager::getTemplate(const std::string& name) const
{
    const auto it = m_templates.find(name);
    return it == m_templates.end() ? nullptr : it->second.get();
}

aParticlesManager::EntryList::iterator aParticlesManager::find(const aParticleSystem* system)
{
    for (auto entry = m_live.begin(); entry != m_live.end(); ++entry)
        if (entry->system.get() == system)
            return entry;
    return m_live.end();
}

aParticlesManager::EntryList::iterator aParticlesManager::erase(EntryList::iterator entry)
{
    return m_live.erase(entry);
}
