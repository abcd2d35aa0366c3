#include "board/row_buffer.h"

namespace NimboltSketchModule {
RowRecord RowBuffer;
}
