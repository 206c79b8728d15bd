// Harlen's message boxes, questions and file pickers, with texts from its
// string table. The file pickers are Qt's own dialogs (not the desktop's), so
// they look and behave alike everywhere.
#pragma once

#include <QString>

#include "platform/win_types.h"

class QWidget;

// A message with an OK button, captioned "系统配置". The buttons of the
// messages and questions read as Harlen's string table has them.
void HarlenMessage(QWidget* parent, UINT textId);
void HarlenMessage(QWidget* parent, const QString& text);
// A warning question with Yes and No: true for Yes.
bool HarlenAskYesNo(QWidget* parent, UINT textId, UINT captionId);

// The chosen file's native path; empty when cancelled. An empty filter shows every file.
QString HarlenOpenFile(QWidget* parent, const QString& filter);
QString HarlenSaveFile(QWidget* parent, const QString& filter);
