#include "files/frm_print_sketch.h"

#include "board/row_record.h"

frmPrintSketch::frmPrintSketch() : surface_(kGridColumns, kGridRows, Qt::white, Qt::black) {}
