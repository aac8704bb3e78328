// The option dialogues of the menu. Each runs its sections once, writing
// titles, header lines and value rows to the console and the log, and
// returns to the menu.
#pragma once

#include "console/channels.hpp"

namespace console {

void LogGammaDialogue(Channels& channels);              // option 2
void GaussianDialogue(Channels& channels);              // option 3
void ChiSquareDialogue(Channels& channels);             // option 4
void NonCentralChiSquareDialogue(Channels& channels);   // option 5
void StudentDialogue(Channels& channels);               // option 6
void FDistributionDialogue(Channels& channels);         // option 7
void BinomialDialogue(Channels& channels);              // option 8
void IncompleteBetaDialogue(Channels& channels);        // option 9

}  // namespace console
