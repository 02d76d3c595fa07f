// imagecache.h - the sprite sections of the state image (items 16 and 34),
// most of its bytes, kept written between savepoints.  A store into a sprite
// field the image holds marks its record changed (save/imagefield.h); the
// savepoint's image writes those records again into the kept sections and
// splices the sections in by reference, so an image of unchanged sprites
// costs no byte of theirs.  The kept sections change only when the next
// savepoint's image is written, which replaces the image that refers to
// them.
#pragma once
#include <cstdint>
#include <vector>

#include "save/stream.h"

// Item 16 (the upright sprites) / item 34 (the rotated sprites) written
// record by record at the writer's cursor.
void PutSpriteSection(ImageWriter* w);
void PutSprite2Section(ImageWriter* w);
// For the savepoint's image: the kept section brought up to the tables, its
// length taken off the writer's room (the image's limit counts it) and the
// cursor noted as its place.
void SpliceSpriteSection(ImageWriter* w);
void SpliceSprite2Section(ImageWriter* w);
// Forgets the noted places: an image is begun.
void ClearSplices();
// The bytes begin..end of the image being written with the kept sections at
// their places.
std::vector<uint8_t> JoinSplices(const uint8_t* begin, const uint8_t* end);
// Every record is written again at the next savepoint's image (the tables
// were stored into wholesale, as by a load).
void ForgetImageCaches();
