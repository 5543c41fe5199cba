#pragma once
// The ops subsystem of the law library.
