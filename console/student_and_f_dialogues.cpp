// Placeholder until this dialogue is built: returns to the menu.
#include "console/dialogues.hpp"

namespace console {

void StudentDialogue(Channels&) {}
void FDistributionDialogue(Channels&) {}

}  // namespace console
