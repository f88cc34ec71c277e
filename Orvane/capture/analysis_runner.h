#pragma once
// How the document starts and waits for the analysis worker that decodes
// its sampling data. The run control implements it; the document only needs
// these two operations.

namespace orvane {

class COrvaneDoc;

class AnalysisRunner {
 public:
  virtual ~AnalysisRunner() = default;
  // Starts the worker for the document's sampling object; true when started.
  virtual bool ScanningSamplingDataStart(COrvaneDoc& doc) = 0;
  // Waits without a time limit for a running worker to end.
  virtual void WaitForWinThreadEnd() = 0;
};

}  // namespace orvane
