// cFindPairState: the find-pair mini-game, a square field of bushes each
// hiding an animal; the animals come in pairs. Two equal animals found run
// off and their bushes fade; two different ones are covered again.
#pragma once

#include <memory>
#include <vector>

#include "game/screens/minigame.h"
#include "orvo/util/a_geometry.h"

class cDrawElement;
class cEntity;
struct cSpriteEntry;

class cFindPairState : public cMiniGameState {
public:
    static constexpr uint16_t kMaxGrid = 6;

    // Cell states, held in the animal's tag.
    enum CellTag : int32_t { CLOSED = 1, OPENING = 2, CLOSING = 4, OPEN = 8, FOUND = 16 };

    // Bushes open by bending both bushes of a cell apart (degrees, per second).
    static constexpr float kOpenAngle = 170.0f;
    static constexpr float kTurnSpeed = 500.0f;

    struct Cell {
        uint16_t column = 0;
        uint16_t row = 0;
        cAnimal* animal = nullptr;
        cEntity* back = nullptr;  // swaying entities of the sprite "bush"
        cEntity* front = nullptr; // mirrored
    };

    cFindPairState();
    ~cFindPairState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;

    uint16_t getGridSize() const { return m_gridSize; }
    int32_t getOriginX() const { return m_originX; }
    int32_t getOriginY() const { return m_originY; }
    const std::vector<Cell>& cells() const { return m_cells; }
    // The screen rectangle of a cell's back bush.
    aRect bushRect(size_t cell) const;
    // Grid size and origins of a GridSize value.
    static void gridFor(int32_t value, uint16_t& size, int32_t& originX, int32_t& originY);
    // Lays the field out afresh: pairs of the kinds, each pair in two random
    // cells. A kind whose animal cannot be made gives its pairs to the
    // others; with none left (or no bush picture) the board is refused:
    // logged, emptied and the map requested. False when refused.
    bool layoutGrid();

private:
    static void readGrid(cMiniGameState& state, aOptionsFile& file);
    // Both animals of a pair in two cells taken from `free`; false (nothing
    // placed) when the kind's animal cannot be made.
    bool placePair(cAnimalKind* kind, const cSpriteEntry& bush, std::vector<uint32_t>& free);
    void placeAnimal(cAnimal* a, const cSpriteEntry& bush, uint16_t c, uint16_t r);
    void refuseBoard(const char* reason);
    void sendAway(cAnimal* a);
    void collectDrawList();
    void releaseCells();

    uint16_t m_gridSize = 6;
    int32_t m_originX = 0;
    int32_t m_originY = 0;
    std::vector<Cell> m_cells;
    Cell* m_first = nullptr;
    Cell* m_second = nullptr;
    bool m_streak = false;
    std::vector<cAnimal*> m_shadowList;
    std::vector<cDrawElement*> m_drawList;
};
