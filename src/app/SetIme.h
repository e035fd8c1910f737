#pragma once
#include <QString>
class QWidget;

// Marks a field for Chinese input; SetIme leaves the input method on for it.
void markChineseInput(QWidget *field, bool chinese = true);
bool isChineseInput(const QWidget *field);

// Walks every child of the window: text fields marked for Chinese input keep
// the input method (and carry ImeName as a hint); all others get it switched
// off, so typing starts in plain Latin input.
void SetIme(QWidget *window);
