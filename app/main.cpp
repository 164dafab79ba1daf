#include "Startup.h"

int main(int argc, char** argv) {
    return zelvorin::RunProgram(argc, argv);
}
