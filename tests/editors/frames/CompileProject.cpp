// The image compiler's header meets the XML library's names, which clash with the grid's: the
// end-to-end test calls it through here.
#include "image/ImageCompiler.h"

#include <string>

void compileProject(const std::string& dir) {
    Compile_Bank(25, dir);
    Save_Bank(25, dir);
}

void compileProject(int product_type, const std::string& dir) {
    Compile_Bank(product_type, dir);
    Save_Bank(product_type, dir);
}
