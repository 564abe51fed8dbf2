#pragma once
// Resource numbers shared by the resource script and the backend's code.

#define IDI_CORVANE 1
