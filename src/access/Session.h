#pragma once
// What a run knows about its operator and the site's settings: the operator
// (remembered in Config.ini for the next login), whether it sees every
// customer, the 15 settings rows, the number patterns built from their
// decimal places, and whether customer codes are generated. The login sets
// it up; the operator, password and settings windows set it up again after
// changing what it is read from.

#include <QString>

namespace Session {

// Sets the shared state of PubUnit for `oper` (trimmed by the caller). A
// settings table that cannot be read keeps the settings already in force.
void SetUp(const QString &oper);

// The operator remembered by the last login ("" when none).
QString lastOperator();

// The decimal places of a settings value; anything but a whole number counts as 2.
int decimalPlaces(const QString &value);

} // namespace Session
