#pragma once

#include "board/row_record.h"

namespace NimboltSketchModule {
// The one row variable every row read and write of the program passes through; its pen
// fields keep whatever the last read or assignment left there.
extern RowRecord RowBuffer;
}  // namespace NimboltSketchModule
