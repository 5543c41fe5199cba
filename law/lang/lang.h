#pragma once
// The lang subsystem of the law library.
