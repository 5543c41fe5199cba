#pragma once
// The numeric subsystem of the law library.
