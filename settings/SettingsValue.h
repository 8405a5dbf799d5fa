// The text form of setting values: booleans are written "True"/"False" and
// read from either word in any letter case or from a decimal number; integers
// are written in decimal and read from a decimal number rounded half to even.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>

QString BoolToText(bool value);
QString IntToText(int value);

// Empty when the text is no boolean in the store's form. A number reads as
// False when it is zero and True otherwise.
std::optional<bool> BoolFromText(const QString& text);
// Empty when the text is no decimal number or its rounded value lies outside
// -32768..32767.
std::optional<int16_t> Int16FromText(const QString& text);
// As Int16FromText for the 32-bit range (window positions and sizes in twips
// pass 32767 on wide screens).
std::optional<int32_t> Int32FromText(const QString& text);
