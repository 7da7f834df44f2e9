// Some libraries, among them those Qt's GUI starts, leave the upper halves of the AVX registers
// dirty; SSE arithmetic then pays for it at each instruction (several times slower on some
// processors), and a thread started afterwards inherits the state. Long numerical work clears it
// first, in the thread that does it.
#pragma once

namespace scaricometro {

// Clears the upper halves of the vector registers where the processor has them; nothing elsewhere.
void clearUpperVectorState();

}  // namespace scaricometro
