#pragma once

// Makes the program's resources (the document icon) reachable from a static library.
void InitProgramResources();
