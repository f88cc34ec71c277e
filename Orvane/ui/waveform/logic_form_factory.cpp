#include "Orvane/ui/waveform/logic_form_factory.h"

#include "Orvane/ui/waveform/logic_form.h"

QWidget* MakeLogicForm(orvane::COrvaneDoc& doc, const orvane::AppState& app, QWidget* parent) {
  return new LogicForm(doc, app, parent);
}
