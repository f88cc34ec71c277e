#pragma once
// Makes the "Timing" tab for the main window's tab pane.

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/orvane_doc.h"

class QWidget;

QWidget* MakeLogicForm(orvane::COrvaneDoc& doc, const orvane::AppState& app, QWidget* parent);
