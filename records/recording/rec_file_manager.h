// CRecFileManager: the record housekeeping thread.
//
// Every 5 s, inside g_csAppData, it looks at each overwrite scheme
// (StorageScheme 1) that is on, adds up the free space of the drives its
// storage paths lie on (a drive counted once), and while that sum is below
// 20 GiB deletes whole record days, oldest first, of every overwrite scheme
// and device stored on those drives. Stop-when-full schemes are never cleaned.
//
// Sound limits: only the record tree of the schemes' own devices is touched
// (record_days.h: plausible dates only, no links followed, files in use kept,
// today's folders kept); a path whose free space cannot be measured takes no
// part in the cycle (logged); after a deleted day the search goes on at the
// next day that exists, so a stray old folder never means a walk over the
// days in between; a stop request ends the pass between two files.
#pragma once

#include "platform/win_types.h"
#include "records/recording/rec_environment.h"
#include "records/recording/rec_worker.h"
#include "records/recording/record_days.h"

struct RecSchemeInfo;

class CRecFileManager : public CRecWorker {
 public:
  static constexpr int kCycleMs = 5000;
  static constexpr uint64_t kMinFreeBytes = 20 * kGiB;

  // env: null for the system clock and drives (tests give their own).
  explicit CRecFileManager(HWND mainWnd, IRecEnvironment* env = nullptr);
  ~CRecFileManager() override;

  // The oldest record day kept on the drives of the scheme's paths, by any
  // overwrite scheme; RecDate::None() when there is none.
  RecDate FindOldestRecordDay(const RecSchemeInfo& scheme);

 protected:
  void Cycle() override;

 private:
  struct Drives;

  void CleanScheme(const RecSchemeInfo& scheme);
  void Measure(const RecSchemeInfo& scheme, Drives& drives, bool first);
  // Calls visit(scheme T, path Q) once for every path Q of an overwrite scheme
  // T that lies on the drive of one of the scheme's usable paths.
  template <class Visit>
  void ForEachPathOnDrives(const Drives& drives, Visit visit);
  RecDate OldestRecordDay(const Drives& drives);
  RecDate NextRecordDay(const Drives& drives, const RecDate& after);
  void DeleteRecordDay(const Drives& drives, const RecDate& date, int keepDay);

  IRecEnvironment& m_env;
};
