#include "TestApp.h"

int main(int argc, char** argv) { return velquor::testing::RunAllTests(argc, argv); }
