#include "zip/zip_spanning.h"

#include "zip/zip_message_ids.h"

#include <algorithm>
#include <exception>
#include <new>

namespace mirnax {

using namespace zip_files;

namespace zip_spanning {

TMemberIndex::TMemberIndex(const std::vector<TZipBuilder::MDZipData>& records) {
  for (size_t i = 0; i < records.size(); ++i) byName_[Lower(records[i].FileName)].push_back(i);
}

size_t TMemberIndex::Take(const std::string& name) {
  auto found = byName_.find(Lower(name));
  if (found == byName_.end() || found->second.empty()) throw EZipBuilder(zmMemberNotFound, true);
  const size_t index = found->second.front();
  found->second.pop_front();
  return index;
}

}  // namespace zip_spanning

std::vector<TZipBuilder::MDZipData> TZipBuilder::AllocSpanMem(int count) {
  return std::vector<MDZipData>(static_cast<size_t>(std::max(count, 0)));
}

void TZipBuilder::DeleteSpanMem(std::vector<MDZipData>& records) {
  records.clear();
  records.shrink_to_fit();
}

int TZipBuilder::FindZipEntry(int count, const std::vector<MDZipData>& records, const char* name, int nameLen) {
  const std::string wanted = Lower(std::string(name, static_cast<size_t>(std::max(nameLen, 0))));
  for (int i = 0; i < count && i < static_cast<int>(records.size()); ++i) {
    const MDZipData& r = records[static_cast<size_t>(i)];
    if (static_cast<int>(r.FileNameLen) == nameLen && Lower(r.FileName) == wanted) return i;
  }
  throw EZipBuilder(zmMemberNotFound, true);
}

int TZipBuilder::SpanFailure(const std::function<void()>& body) {
  try {
    body();
    return 0;
  } catch (const EZipBuilder& e) {
    ShowExceptionError(e);
    return -7;
  } catch (const std::bad_alloc&) {
    ShowZipMessage(zmNoMemory, "");
    return -8;
  } catch (const std::exception& e) {
    ShowZipMessage(zmSpanError, std::string("\n") + e.what());
    return -9;
  } catch (...) {
    ShowZipMessage(zmSpanError, "");
    return -9;
  }
}

void TZipBuilder::ReportCopying(const std::string& name) {
  if (OnMessage) OnMessage(this, 0, LoadZipStr(zmCopying, "Copying: ") + name);
}

}  // namespace mirnax
