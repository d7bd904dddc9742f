// cLevel: the walkable grid, the two ground areas and placement.
#include "game/park/level.h"

#include <algorithm>

#include "orvo/platform/gpu/a_gpuimage.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_math.h"
#include "orvo/util/a_random.h"
#include "orvo/util/a_vector2.h"

namespace {

constexpr int32_t kHerbivoreShade = 255;
constexpr int32_t kPredatorShade = 128;
constexpr int32_t kAreaTries = 99999;
constexpr int32_t kPlacementTries = 9999;
constexpr int32_t kScatterTries = 999;
constexpr int32_t kPlacementMargin = 20;

bool isEmpty(const aRect& r)
{
    return r.width == 0 || r.height == 0;
}

// The ground value that the next randomly placed decoration looks for;
// successive decorations alternate between the two grounds.
int32_t g_placementGround = cLevel::HERBIVORE;

} // namespace

void cLevel::buildWalkableGrid(const aGpuPicture& mask, const aRect& herbivoresRect, const aRect& predatorsRect)
{
    herbivoresArea = predatorsArea = aRect(32767, 32767, 0, 0);
    grid.clear();
    gridWidth = gridHeight = 0;
    cellWidth = cellHeight = 1.0f;
    if (mask.width == 0 || mask.height == 0 || mask.width > 0xFFFF || mask.height > 0xFFFF ||
        mask.pixels.size() != static_cast<size_t>(mask.width) * mask.height) {
        a_log("cLevel. Walkable mask of %ux%u pixels refused", mask.width, mask.height);
        herbivoresArea = predatorsArea = aRect();
        return;
    }
    cellWidth = kScreenWidth / static_cast<float>(mask.width);
    cellHeight = kScreenHeight / static_cast<float>(mask.height);
    grid.assign(static_cast<size_t>(mask.width) * mask.height, NOT_WALKABLE);

    const bool byShade = isEmpty(herbivoresRect) && isEmpty(predatorsRect);
    int32_t low[2][2] = {{32767, 32767}, {32767, 32767}}; // per area: smallest column, row
    int32_t high[2][2] = {{0, 0}, {0, 0}};                // largest column, row
    for (uint32_t cy = 0; cy < mask.height; ++cy) {
        for (uint32_t cx = 0; cx < mask.width; ++cx) {
            const int32_t g = static_cast<int32_t>((mask.pixels[cy * mask.width + cx] >> 8) & 0xFF);
            int32_t value = NOT_WALKABLE;
            if (byShade) {
                value = g == kHerbivoreShade ? HERBIVORE : g == kPredatorShade ? PREDATOR : NOT_WALKABLE;
            } else if (g == kHerbivoreShade || g == kPredatorShade) {
                const int32_t sx = aMath::round(static_cast<float>(cx) * cellWidth);
                const int32_t sy = aMath::round(static_cast<float>(cy) * cellHeight);
                value = herbivoresRect.contains(sx, sy)  ? HERBIVORE
                        : predatorsRect.contains(sx, sy) ? PREDATOR
                                                         : NOT_WALKABLE;
            }
            grid[cy * mask.width + cx] = value;
            if (value == NOT_WALKABLE)
                continue;
            low[value][0] = std::min<int32_t>(low[value][0], static_cast<int32_t>(cx));
            low[value][1] = std::min<int32_t>(low[value][1], static_cast<int32_t>(cy));
            high[value][0] = std::max<int32_t>(high[value][0], static_cast<int32_t>(cx));
            high[value][1] = std::max<int32_t>(high[value][1], static_cast<int32_t>(cy));
        }
    }
    gridWidth = static_cast<uint16_t>(mask.width);
    gridHeight = static_cast<uint16_t>(mask.height);

    aRect* areas[2] = {&herbivoresArea, &predatorsArea};
    for (int a = 0; a < 2; ++a) {
        if (high[a][0] <= 0 || high[a][1] <= 0)
            continue;
        areas[a]->x = static_cast<int16_t>(aMath::round(static_cast<float>(low[a][0]) * cellWidth));
        areas[a]->y = static_cast<int16_t>(aMath::round(static_cast<float>(low[a][1]) * cellHeight));
        areas[a]->width = static_cast<uint16_t>(aMath::round(static_cast<float>(high[a][0] - low[a][0]) * cellWidth));
        areas[a]->height = static_cast<uint16_t>(aMath::round(static_cast<float>(high[a][1] - low[a][1]) * cellHeight));
    }
}

int32_t cLevel::walkableAt(int32_t x, int32_t y) const
{
    if (grid.empty())
        return NOT_WALKABLE;
    const int32_t column = aMath::round(static_cast<float>(x) / cellWidth);
    const int32_t row = aMath::round(static_cast<float>(y) / cellHeight);
    if (column < 0 || row < 0 || column >= gridWidth || row >= gridHeight)
        return NOT_WALKABLE;
    return grid[static_cast<size_t>(row) * gridWidth + column];
}

bool cLevel::canStandAt(int32_t area, int32_t width, int32_t x, int32_t y, int32_t waterRule) const
{
    if (width == 0) {
        if (walkableAt(x, y) != area)
            return false;
    } else if (walkableAt(x - width / 2, y) != area || walkableAt(x + width / 2, y) != area) {
        return false;
    }
    if (waterRule == DRY)
        return !waterAt(x, y);
    if (waterRule == IN_WATER)
        return waterAt(x, y);
    return true;
}

void cLevel::randomPointInArea(int32_t area, int32_t& x, int32_t& y, int32_t width, int32_t waterRule) const
{
    if (area != HERBIVORE && area != PREDATOR)
        return;
    const aRect& r = this->area(area);
    if (isEmpty(r)) {
        a_log("cLevel::randomPointInArea - area %d is empty", area);
        return;
    }
    for (int32_t i = 0; i < kAreaTries; ++i) {
        x = r.x + a_rand() % r.width;
        y = r.y + a_rand() % r.height;
        if (canStandAt(area, width, x, y, waterRule))
            return;
    }
}

void cLevel::blockEntityArea(int32_t x, int32_t y, int32_t w, int32_t h)
{
    w = std::max(w, 0);
    h = std::max(h, 0);
    const int32_t x2 = x + w, y2 = y + h;
    cObstacle o;
    o.cornerCount = 4;
    o.corners[0] = aVector2(static_cast<float>(x - 1), static_cast<float>(y - 1));
    o.corners[1] = aVector2(static_cast<float>(x2 + 1), static_cast<float>(y - 1));
    o.corners[2] = aVector2(static_cast<float>(x2 + 1), static_cast<float>(y2 + 1));
    o.corners[3] = aVector2(static_cast<float>(x - 1), static_cast<float>(y2 + 1));
    o.rect = aRect(static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<uint16_t>(x2 - x),
                   static_cast<uint16_t>(y2 - y));
    obstacles.push_back(o);
    if (grid.empty())
        return;
    const int32_t extentX = aMath::round(gridWidth * cellWidth);
    const int32_t extentY = aMath::round(gridHeight * cellHeight);
    for (int32_t py = std::max(y, 0); py <= y2 && py < extentY; ++py) {
        const int32_t row = aMath::round(static_cast<float>(py) / cellHeight);
        // NOTE: rounding takes the last pixels of the screen one cell past the grid.
        if (row >= gridHeight)
            break;
        for (int32_t px = std::max(x, 0); px <= x2 && px < extentX; ++px) {
            const int32_t column = aMath::round(static_cast<float>(px) / cellWidth);
            if (column >= gridWidth)
                break;
            grid[static_cast<size_t>(row) * gridWidth + column] = NOT_WALKABLE;
        }
    }
}

void cLevel::placeEntityRandomly(cDrawElement* entity, const aRect* rect, bool onNonWalkable)
{
    if (onNonWalkable)
        g_placementGround = NOT_WALKABLE;
    const aRect whole(0, 0, static_cast<uint16_t>(aMath::round(gridWidth * cellWidth)),
                      static_cast<uint16_t>(aMath::round(gridHeight * cellHeight)));
    const aRect& r = rect ? *rect : whole;
    if (isEmpty(r)) {
        a_log("cLevel::placeEntityRandomly - empty rectangle");
    } else {
        for (int32_t i = 0; i < kPlacementTries; ++i) {
            const int32_t x = r.x + a_rand() % r.width;
            const int32_t y = r.y + a_rand() % r.height;
            bool free = true;
            for (int32_t dy = -kPlacementMargin; free && dy <= kPlacementMargin; ++dy)
                for (int32_t dx = -kPlacementMargin; free && dx <= kPlacementMargin; ++dx)
                    free = walkableAt(x + dx, y + dy) == g_placementGround && !waterAt(x + dx, y + dy);
            const aVector2 p(static_cast<float>(x), static_cast<float>(y));
            for (size_t e = 0; free && e < entities.size(); ++e)
                free = entities[e] == entity || (entities[e]->anchor - p).lengthSq() >= 400.0f;
            if (free) {
                entity->setPosition(p);
                break;
            }
        }
    }
    g_placementGround = g_placementGround == HERBIVORE ? PREDATOR : HERBIVORE;
}

void cLevel::scatterEntities(const std::vector<cDrawElement*>& pending)
{
    if (pending.empty())
        return;
    const aRect* rects[3] = {&topRect, &leftRect, &rightRect};
    const float areaTop = static_cast<float>(topRect.width) * topRect.height;
    const float areaLeft = static_cast<float>(leftRect.width) * leftRect.height;
    const float areaRight = static_cast<float>(rightRect.width) * rightRect.height;
    const float total = areaTop + areaLeft + areaRight;
    if (total <= 0.0f) {
        a_log("cLevel::scatterEntities - no background rectangles for %zu decorations", pending.size());
        return;
    }
    const int32_t n = static_cast<int32_t>(pending.size());
    int32_t share[3];
    share[1] = aMath::round(static_cast<float>(n) * areaLeft / total);
    share[2] = aMath::round(static_cast<float>(n) * areaRight / total);
    share[0] = n - share[1] - share[2];
    for (cDrawElement* entity : pending) {
        for (int32_t i = 0; i < kScatterTries; ++i) {
            const int32_t index = a_rand() % 3;
            if (share[index] <= 0)
                continue;
            placeEntityRandomly(entity, rects[index], true);
            --share[index];
            break;
        }
    }
}
