// The processor information query of the desktop stand-in: the handheld's kernel answers it from
// the processor it runs on, the stand-in from its simulated main ID register.
// Backend only, no program logic.
#include <cwchar>
#include <iterator>

#include "platform/win32/stand_in.h"
#include "platform/win32/windows_api.h"

namespace {

const wchar_t* VendorName(std::uint32_t mainId) {
  switch (mainId >> 24) {
    case 0x41:
      return L"ARM";
    case 0x69:
      return L"Intel";
    default:
      return L"";
  }
}

// The part number (bits 4-15) names the chip of the XScale families the stand-in models.
const wchar_t* ProcessorName(std::uint32_t mainId) {
  switch ((mainId >> 4) & 0xFFF) {
    case 0x411:
      return L"PXA270";
    case 0x2D0:
    case 0x290:
      return L"PXA255";
    default:
      return L"XScale";
  }
}

void CopyText(char16_t* field, std::size_t capacity, const wchar_t* text) {
  std::size_t i = 0;
  for (; i + 1 < capacity && text[i] != L'\0'; ++i) field[i] = static_cast<char16_t>(text[i]);
  field[i] = u'\0';
}

}  // namespace

namespace standin {

bool AnswerProcessorQuery(void* output, std::uint32_t outputSize, std::uint32_t* returned) {
  using plat::ProcessorInfo;
  if (output == nullptr || outputSize < sizeof(ProcessorInfo)) {
    ::SetLastError(ERROR_NOT_SUPPORTED);
    return false;
  }
  const std::uint32_t mainId = standin::Read(standin::MainId);
  auto* info = static_cast<ProcessorInfo*>(output);
  *info = ProcessorInfo{};
  info->Version = 1;
  CopyText(info->Vendor, std::size(info->Vendor), VendorName(mainId));
  CopyText(info->ProcessorName, std::size(info->ProcessorName), ProcessorName(mainId));
  info->ProcessorRevision = static_cast<std::uint16_t>(mainId & 0xF);
  if (returned != nullptr) *returned = sizeof(ProcessorInfo);
  return true;
}

}  // namespace standin
