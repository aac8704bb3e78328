// Placeholder until this dialogue is built: returns to the menu.
#include "console/dialogues.hpp"

namespace console {

void ChiSquareDialogue(Channels&) {}
void NonCentralChiSquareDialogue(Channels&) {}

}  // namespace console
