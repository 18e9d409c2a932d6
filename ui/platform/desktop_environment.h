#pragma once

namespace keyfall {

// An X server, where there is one, serves the game also on a Wayland desktop (as XWayland): only
// there can the window open centred and the game tell that it was minimized. A platform the
// player chose comes first, and Wayland serves if no X server answers.
void preferXServer();

// Qt reads and writes text as UTF-8 and says so on every start where the locale's character set
// is another, as in a shell without a locale ("C"), or where the locale named is not installed.
// There the character type, or every category where the locale is missing, becomes C.UTF-8 before
// Qt looks: the game shows no text of the locale's.
void chooseUtf8Locale();

// A desktop session names the user's runtime folder (XDG_RUNTIME_DIR), where Qt and the sound
// library keep what lives only while the user is logged in; a shell opened with su, or a remote
// one, may name none, and Qt 6.4 then says on every start that it chose one of its own. Where
// none is named, the game names the one the system made for the user's login
// (/run/user/<uid>), or else the folder that Qt would choose ("runtime-<user>" in the temporary
// folder), made if missing: each only if it belongs to the user alone, as the folder must.
void nameRuntimeFolder();

}
