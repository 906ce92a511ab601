#pragma once

namespace sondrix {

// Whether the process `pid` still runs. One that has ended but that its
// parent has not reaped yet (a zombie) holds no file and no port any more,
// and counts as gone. A process of another user counts as running.
bool ProcessRunning(unsigned long pid);

}  // namespace sondrix
