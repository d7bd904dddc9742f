// Loading of creature and scene sprites by their base name (a path with its
// assign and without extension, such as "animals:zebra/animations/adult_walk_right").
// A sheet loaded here is kept in the image manager under that base name (with
// ":list" when a list name is given), which is the key an animation file's
// "Texture" names. Loading or main thread, one image manager per thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

class aAdvAnim;
class aImage;
class aImageManager;

// The sheet (base + ".jng", else base + ".png") unless the manager holds it,
// then the animation of base + ".ini". Always an animation; a missing
// description is logged by the animation's loader.
std::unique_ptr<aAdvAnim> sprite_loadByName(aImageManager* images, const std::string& base);

// Queues the sheet of `base` under the key `base` (as sprite_loadByName
// would load it) unless the manager holds it; it loads with the manager's
// next runTasks. False when there is no sheet.
bool sprite_queueSheet(aImageManager& images, const std::string& base);
// Frees the sheet held under the key `base`.
void sprite_unloadSheet(aImageManager& images, const std::string& base);

// The five direction sheets base + "_up", "_up_right", "_right",
// "_down_right", "_down" appended to `out` in that order (a null for a sheet
// that could not be found, so the index stays the direction).
void sprite_loadDirectional(aImageManager* images, const std::string& base, std::vector<aImage*>& out,
                            const std::string& listName = "");
