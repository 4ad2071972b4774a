#pragma once

// Registers the satellites, output setup, precision and receiver information screens.
void RegisterGpsDetailScreens();
