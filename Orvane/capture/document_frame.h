#pragma once
// What the document asks of the window that shows it: the title, the view
// layout and the busy cursor. The Qt main window implements it; headless
// front ends use the defaults, which do nothing.

#include <string>

namespace orvane {

class DocumentFrame {
 public:
  virtual ~DocumentFrame() = default;
  virtual void SetTitle(const std::string& /*title*/) {}
  // true = list above the dump and waveform tabs, false = the list alone.
  virtual void ChangeViewSplitter(bool /*split*/) {}
  virtual void BeginWaitCursor() {}
  virtual void EndWaitCursor() {}
};

}  // namespace orvane
