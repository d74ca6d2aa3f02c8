#include "app/constants.h"

namespace app {

// "/emp.jpg" and "/细节.jpg" with the two characters in the ANSI code page.
const uint8_t kConstantBlock[kConstantBlockSize] = {
    0x00,                                                        // the empty text
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,              // the empty byte array
    '/',  'e',  'm',  'p',  '.',  'j',  'p',  'g',  0x00,        // temporary file
    '/',  0xCF, 0xB8, 0xBD, 0xDA, '.',  'j',  'p',  'g',  0x00,  // output file
};

}  // namespace app
