#pragma once

namespace keyfall {

// On a Wayland desktop the game runs on Wayland itself, drawn at the desktop's scale: through
// XWayland a desktop scaled by two shows a picture drawn at scale 1 and blurred as it is enlarged.
// A Wayland desktop stops drawing a minimized window, which Qt tells as the window no longer
// being exposed: the game's one sign of minimizing there. X serves where no compositor answers;
// on an X desktop Qt chooses X itself, at the scale its Xft.dpi names. A platform the player
// chose comes first.
void chooseWindowSystem();

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
