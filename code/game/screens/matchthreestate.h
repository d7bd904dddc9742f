// cMatchThreeState: the match-three mini-game, a 6 x 6 board of animals.
// The player drags an animal onto a neighbour; a swap that lines up three
// or more stays, the line leaves (goal kinds run to their icons), the
// animals above fall and new ones run in. The rules of the board live in
// cMatchBoard; this state keeps the animals that show it in step with it.
#pragma once

#include <array>
#include <vector>

#include "game/screens/matchboard.h"
#include "game/screens/minigame.h"

namespace GUI {
class StaticAnim;
}

class cMatchThreeState : public cMiniGameState {
public:
    static constexpr int kNoDir = 5;

    cMatchThreeState();
    ~cMatchThreeState() override;

    void update(float dt) override;
    void draw() override;
    void init() override;
    void release() override;

    // Home point of cell (c, r).
    static aVector2 home(int c, int r);

    const cMatchBoard& board() const { return m_board; }
    cAnimal* piece(int c, int r) const { return m_pieces[static_cast<size_t>(cMatchBoard::index(c, r))]; }
    bool isStill() const { return m_still; }
    cAnimal* hintA() const { return m_hintA; }
    cAnimal* hintB() const { return m_hintB; }

private:
    bool fillColumn(int c);
    void fillAll();
    bool findMatches();
    void removePiece(cAnimal* a, bool clearing);
    void swapCells(int c, int r, int d);
    void collapseAndRefill();
    bool hasAnyMove();
    void reshuffle();
    void handleInput();
    void hideArrow();
    bool countGoal(const cAnimalKind* kind);
    bool checkWin();
    void walkHome(cAnimal* a, int c, int r);
    void collectDrawList();

    cMatchBoard m_board;
    std::array<cAnimal*, cMatchBoard::kCells> m_pieces{};
    GUI::StaticAnim* m_arrow = nullptr; // owned by the GUI tree
    float m_removeDelay = 0.0f;
    bool m_dragging = false;
    int m_swapDir = kNoDir;
    int m_selColumn = -1;
    int m_selRow = -1;
    bool m_checkMoves = false;
    bool m_still = false;
    cAnimal* m_hintA = nullptr;
    cAnimal* m_hintB = nullptr;
    float m_hintTime = 0.0f;
    std::vector<cAnimal*> m_drawList;
    std::vector<cAnimal*> m_leaving;
};
