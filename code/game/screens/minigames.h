// The three mini-game states join the state registry here.
#pragma once

// Registers the match-three, find-pair and catch-animal states, unless a
// class stands in for an id already.
void miniGames_registerStates();
