// links: dbf
// A table file and its memo file (split at "\n--\n"): the header, every record and every memo of
// the first records are read; whatever the bytes, reads stay within the files and their buffers.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "dbf/DsCP.h"
#include "dbf/DsDbfApi.h"
#include "fuzz/FuzzSupport.h"
#include "platform/runtime/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [table, memo] = fuzz::SplitInput(data, size);
  orv::TDsOpenParams params;
  params.CodePage = dBASE_RUS_cp866;
  try {
    TDbfHandle handle(std::make_unique<fuzz::TInputFile>(fuzz::Bytes(table)), &params, true,
                      memo.empty() ? nullptr : std::make_unique<fuzz::TInputFile>(fuzz::Bytes(memo)));
    if (handle.GetStatus() != dsErrNone) return 0;
    const Integer fieldCount = handle.GetHeader()->GetFieldCount();
    std::vector<Byte> record(std::size_t(handle.GetRecordSize()));
    for (int r = 0; r < 64 && handle.GetNext(record.data()) == dsErrNone; ++r) {
      for (Integer fieldNo = 1; fieldNo <= fieldCount; ++fieldNo) {
        Integer blobSize = -1;
        if (DbfGetBlobSize(&handle, record.data(), fieldNo, blobSize) != dsErrNone) continue;
        // Exactly sized, so that a read past the buffer is caught.
        std::unique_ptr<Byte[]> blob(new Byte[std::size_t(blobSize) + 1]);
        Integer got = 0;
        DbfGetBlob(&handle, record.data(), fieldNo, 0, blobSize, blob.get(), got);
      }
    }
  } catch (const Exception&) {
    // A refused file is an answer, not a fault.
  }
  return 0;
}
