// gamestate.h - the game-state image: every item of the running game's state
// in one fixed order through a SaveStream, written at a savepoint and read
// back from a slot.  Reading first walks the whole image without touching
// the game (sizes, counts, texts, stack entries checked), so a damaged or
// foreign image is refused before anything changes.
#pragma once
#include <cstdint>

#include "graphics/sprite.h"
#include "save/stream.h"

enum { SaveDataLimit = 204800, GameStateVersion = 2 };

// Cell and alpha of the standing pictures (0-2) and sprites (3-1002) read
// back from a slot (written from the surfaces themselves).
extern int32_t SavepointCells[HumanCount + SpriteCount];
extern int32_t SavepointAlphas[HumanCount + SpriteCount];

// Writes items 1-39: at the writer's cursor, or behind a stream writer's
// bytes.
void WriteGameStateImage(ImageWriter* w);
// The same for the savepoint: the sprite sections are kept apart and spliced
// in by JoinSplices (save/imagecache.h).
void SpliceGameStateImage(ImageWriter* w);
void WriteGameState(SaveStream* s);
// Reads items 1-39.  apply 0: only walks and checks them; apply 1: stores
// them into the game (after a walk with apply 0 succeeded).  false when the
// image is damaged.
bool ReadGameState(SaveStream* s, bool apply);
