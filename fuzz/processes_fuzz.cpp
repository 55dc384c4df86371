// The process and thread lists with processes of any names, window titles, paths and sizes,
// threads of any priority and file times, processes ending mid-fill, and the user's presses.
#include "base/ids.h"
#include "fuzz_common.h"
#include "procview/process_dialog.h"

namespace {

constexpr int Buttons[] = {IDC_THREADS, IDC_REFRESH, IDC_CLOSE_PROCESS, plat::IDOK};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::Bytes in(nullptr, 0);
  in = fuzz::Bytes(data, size);
  fuzz::FreshDevice();
  sim::Device().System.TimeZoneBias = static_cast<std::int32_t>(in.U32());
  const int processes = in.U8() % 6;
  for (int p = 0; p < processes; ++p) {
    sim::ProcessRecord process{};
    process.Id = 0x200 + 0x100 * static_cast<std::uint32_t>(p);
    process.ExeFile = in.Text(400);
    process.Path = in.Text(400);
    process.Protected = in.Bit();
    const int threads = in.U8() % 4;
    for (int t = 0; t < threads; ++t) {
      process.Threads.push_back({process.Id + 1 + static_cast<std::uint32_t>(t),
                                 static_cast<std::int32_t>(in.U32()), in.U64(), in.U64(), in.U64(),
                                 in.Bit()});
    }
    sim::Device().Processes.Running.push_back(process);
    const std::uint8_t extras = in.U8();
    if ((extras & 1) != 0)
      harness::AddWindow(
          {.Title = in.Text(400), .ProcessId = process.Id, .Visible = (extras & 2) != 0});
    if ((extras & 4) != 0) {  // its file, with a size
      const std::uint64_t bytes = in.U64();
      if (sim::File* file = sim::FindFile(process.Path)) {
        file->Size = bytes;
      } else {
        sim::Device().Files.push_back({process.Path, bytes});
      }
    }
    if ((extras & 8) != 0) sim::Device().Processes.EndAfterSnapshot.push_back(process.Id);
    if ((extras & 16) != 0 && sim::FindFile(process.Path) == nullptr) {
      sim::Device().Files.push_back({process.Path});
    }
  }
  sim::Device().Faults.SnapshotFails = in.U8() == 0xFF;
  // The user taps rows and presses buttons, each action a while after the last.
  fuzz::RunDialog(IDD_PROCESSES, ProcessDialogProc, [](plat::Window dialog) {
    for (int action = 0; action < 8 && !in.Empty(); ++action) {
      const std::uint8_t pick = in.U8();
      sim::After(5u * static_cast<std::uint32_t>(action + 1), [dialog, pick] {
        if (auto threads = sim::OpenDialog(IDD_THREADS)) {  // in front: close or refresh it
          sim::SendDialogCommand(threads->Handle, (pick & 1) != 0 ? plat::IDOK : IDC_REFRESH);
        }
        if (!sim::OpenDialog(IDD_PROCESSES)) return;
        if ((pick & 0x40) != 0) sim::Device().Script.BoxAnswers.push_back(plat::IDYES);
        if ((pick & 0x80) != 0) {
          sim::SelectRow(plat::GetDlgItem(dialog, IDC_LIST), pick % 8);
        } else {
          sim::SendDialogCommand(dialog, Buttons[pick % std::size(Buttons)]);
        }
      });
    }
  });
  fuzz::CheckState({});
  fuzz::CheckNothingOpen();
  return 0;
}
