#pragma once

#include "webout/presentation.h"

#include <string>
#include <string_view>

class WriteBatch;

std::string metafileName(int row);
// The one line of a metafile, without its line end.
std::string metafileLine(std::string_view audioUrl, double start, double end);

// "Write RAM FIles" after its checks: tsld001.ram onward, each playing from its row's Start
// to the last row's Stop. The end time is read before any file is written. Stops at the
// first failure with an OutputError naming the metafile (empty before the first); the
// metafiles made before it stay in the batch.
void writeMetafiles(WriteBatch& batch, const PresentationOutput& out);
