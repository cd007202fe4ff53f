#pragma once
#include <QRectF>

#include "turma/keys_page.h"

class QPainter;

namespace tecladim::turma {

// The keys most missed that a printed page lists.
inline constexpr std::size_t PrintedKeys = 18;

// Whether the printed report gives the student a page of keys: their Teclas.xml was read.
bool RecordsKeys(const classroom::Student& student);

// One printed page of keys: the title and situation, the coloured keyboard, "Teclas a
// treinar" with its lessons, and the keys with the highest error rates.
void PaintKeysSheet(QPainter& painter, const QRectF& area, const KeysShown& shown);

}  // namespace tecladim::turma
