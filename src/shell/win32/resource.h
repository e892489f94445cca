// Identifiers of the program's resources, shared by the resource script and
// the code.
#pragma once

#define IDI_PELLORIN 1
#define IDM_MAIN 100
#define IDM_NEW 101
#define IDM_QUIT 102
