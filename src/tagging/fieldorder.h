#pragma once

#include <QString>

#include <vector>

// One entry of a field order list: a field name and whether it is marked to
// take a part of a file name.
struct FieldEntry
{
    QString name;
    bool marked = false;

    bool operator==(const FieldEntry &) const = default;
};

// The fields in the order the user arranged them. Marked entries take the
// parts of a file name in turn; unmarked ones only keep their place.
using FieldOrder = std::vector<FieldEntry>;

// The stored form of a field order list: per entry "1" (marked) or "0", the
// name and a comma, as in "1Artist,1Title,0Album,0Genre,".
inline constexpr char kDefaultFieldOrder[] = "0Title,0Artist,0Album,0Genre,";

// Reads a stored field order string. The first character of each entry is its
// mark: any digit from 1 to 9 marks it, anything else leaves it unmarked. An
// entry whose comma is missing (a damaged value) runs to the end of the text.
FieldOrder readFieldOrder(const QString &text);
// Writes the stored form; readFieldOrder gives back the same entries.
QString writeFieldOrder(const FieldOrder &order);

// Moving the current entry (positions from 0) with its mark. Each returns the
// new current position; a move past either end, or with no valid current
// position, changes nothing and returns `current` unchanged.
int moveFieldUp(FieldOrder &order, int current);
int moveFieldDown(FieldOrder &order, int current);

// The stored integer of a three-button option array: 1 for button 1, 2 for
// button 2, 0 for button 0 (or none).
int optionIndex(bool button1Chosen, bool button2Chosen);
// The button to choose for a stored integer: "0", "1" or "2". Any other text
// (damaged or hand-edited) chooses button 0, so one button is always chosen.
int optionFromSetting(const QString &text);
