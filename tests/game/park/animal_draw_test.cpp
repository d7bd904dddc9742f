// The six kinds drawn on the offscreen renderer, children in the upper row and
// adults in the lower one, with their status indicators: the children
// hungry, the adults sick, one pair under the pointer (highlight and health
// bar), the adult warthog producing. Kept as tests/data/screens/animals_row.png.
#include "game/support/park_game.h"
#include "orvo/gfx/a_gdi.h"
#include "orvo/gfx/a_graphserver.h"

using namespace kbtest;

namespace {

class AnimalPictures : public ParkGame {
protected:
    void SetUp() override { startGame(false); }
};

} // namespace

TEST_F(AnimalPictures, SixKindsChildAndAdultWithIndicators)
{
    std::vector<cAnimal*> animals;
    const char* kinds[] = {"warthog", "zebra", "rhino", "hippo", "cheetah", "lion"};
    for (int i = 0; i < 6; ++i) {
        for (bool adult : {false, true}) {
            cAnimal* animal = cAnimal::create(adult, cAnimal::findKindByName(kinds[i]));
            ASSERT_NE(animal, nullptr) << kinds[i];
            animal->setPosition(aVector2(95.0f + 166.0f * i, adult ? 640.0f : 360.0f));
            // The adult warthog produces (its coins glint over it); the others walk.
            animal->setState(adult && i == 0 ? cAnimalKind::PRODUCE : cAnimalKind::WALK);
            animal->setDirection(aVector2(i % 2 ? -1.0f : 1.0f, 0.0f));
            if (adult) {
                animal->sick = animal->held = true;
                animal->freeRunning = false;
            } else {
                animal->hunger = 90.0f;
            }
            animal->hovered = i == 1;
            animal->highlight = 0xFF00FF00;
            animals.push_back(animal);
        }
    }
    for (int frame = 0; frame < 30; ++frame)
        for (cAnimal* animal : animals)
            animal->update(kDt);
    for (cAnimal* animal : animals) {
        EXPECT_EQ(animal->indicator.step, cStatusIndicator::kSteps) << animal->kind->name;
        EXPECT_EQ(animal->indicator.frame, animal->child
                                               ? (animal->kind->foodType ? aRect(122, 0, 42, 28) : aRect(80, 0, 42, 36))
                                               : aRect(122, 28, 27, 26));
    }

    aGraphServer* graph = game->h.game().getGraphServer();
    ASSERT_TRUE(graph->beginScene());
    aGDI ground;
    ground.color = 0xFF8DA656;
    ground.drawRect(0, 0, 1024, 768, true);
    ground.color = 0xFF7C9A48;
    ground.drawRect(0, 420, 1024, 348, true);
    std::sort(animals.begin(), animals.end(), compareDepth);
    for (cAnimal* animal : animals)
        animal->draw();
    for (cAnimal* animal : animals)
        animal->drawInfoPanel();
    graph->endScene();
    game->h.expectScreen("animals_row");

    for (cAnimal* animal : animals)
        animal->release();
}
