// Placeholder until this dialogue is built: returns to the menu.
#include "console/dialogues.hpp"

namespace console {

void BinomialDialogue(Channels&) {}
void IncompleteBetaDialogue(Channels&) {}

}  // namespace console
