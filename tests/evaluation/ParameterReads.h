#pragma once

#include <atomic>
#include <cstdint>

#include "evaluation/DocumentQueries.h"
#include "evaluation/StackMachine.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

// Cancels a run at a known point of it, whatever the machine's speed: the
// program's parameter reads are answered 1 (as for a name nothing defines)
// and counted, and the read numbered `raiseAt` raises the program's flag,
// itself or by handing over to a thread in RaiseWhenAsked and waiting for
// it.
class ParameterReads {
 public:
  enum Raiser { kOnItsThread, kByAnotherThread };
  ParameterReads(const AStackMachine& program, int64_t raiseAt, Raiser raiser)
      : fSaved(InstalledDocumentQueryHooks()), fProgram(program), fRaiseAt(raiseAt), fRaiser(raiser) {
    sCurrent = this;
    DocumentQueryHooks hooks = fSaved;
    hooks.getParameter = Read;
    InstallDocumentQueryHooks(hooks);
  }
  ~ParameterReads() {
    InstallDocumentQueryHooks(fSaved);
    sCurrent = nullptr;
  }
  ParameterReads(const ParameterReads&) = delete;
  ParameterReads& operator=(const ParameterReads&) = delete;

  int64_t Reads() const { return fReads.load(); }

  void RaiseWhenAsked() {
    fAsked.Wait();
    fProgram.fCancel.store(1);
    fRaised.Open();
  }
  // After the run: a thread whose read never came is not kept waiting.
  void RunEnded() { fAsked.Open(); }

 private:
  static Complex Read(int32_t, int32_t, const DocumentRecord*) {
    ParameterReads& self = *sCurrent;
    if (self.fReads.fetch_add(1) + 1 != self.fRaiseAt) return {1.0, 0.0};
    if (self.fRaiser == kOnItsThread) {
      self.fProgram.fCancel.store(1);
    } else {
      self.fAsked.Open();
      self.fRaised.Wait();
    }
    return {1.0, 0.0};
  }

  static inline ParameterReads* sCurrent = nullptr;
  const DocumentQueryHooks fSaved;
  const AStackMachine& fProgram;
  const int64_t fRaiseAt;
  const Raiser fRaiser;
  std::atomic<int64_t> fReads{0};
  Gate fAsked;
  Gate fRaised;
};
