#pragma once

#include <cstdint>
#include <string>

namespace Velm {

class Font;
class Image;

// The 71 resources of the manifest that the game keeps in fixed variables, so
// that code can use a font, picture or sound without looking it up by name.
// The manifest's resource id of each is the variable's name (GetResourceNameById).
// Variables are null (sounds 0) until their group is bound; the resource
// manager keeps ownership of what they point to.
enum ResourceId {
    FONT_DEFAULT_ID = 0,
    FONT_DIREVIR_ID,
    FONT_DEFAULTBOLD_ID,
    FONT_DEFAULT12_ID,
    FONT_DEFAULTSMALL_ID,
    FONT_DEFAULT7_ID,
    FONT_DEFAULT16_ID,
    FONT_DEFAULT_ADD_ID,
    FONT_NUMBERS_ID,
    IMAGE_CUSTOM_POINTER_ID,
    IMAGE_CUSTOM_HAND_ID,
    IMAGE_CUSTOM_DRAGGING_ID,
    IMAGE_CUSTOM_TEXT_ID,
    IMAGE_TITLE_BACK_ID,
    IMAGE_TITLE_PROGRESS_ID,
    SOUND_MUTATOR_ID,
    SOUND_TIMER_ID,
    IMAGE_CHECKBOX_ID,
    IMAGE_DIALOG_BOX_ID,
    IMAGE_DIALOG_SELECTUSER_ID,
    IMAGE_DIALOG_BUTTON_ID,
    IMAGE_BUTTON_BOARD_HINT_ID,
    IMAGE_BUTTON_BOARD_MENU_ID,
    IMAGE_BUTTON_BOARD_SHUFFLE_ID,
    IMAGE_BUTTON_BOARD_UNDO_ID,
    IMAGE_SLIDER_TRACK_ID,
    IMAGE_SLIDER_THUMB_ID,
    IMAGE_DIALOG_USER_ID,
    IMAGE_SPARKLE_ID,
    IMAGE_MAIN_STAR_SPARKLE_ID,
    IMAGE_GAME_BACK_ID,
    IMAGE_BUTTON_PLAY_ID,
    IMAGE_BUTTON_SIMPLE_ID,
    IMAGE_BUTTON_HIGHSCORES_ID,
    IMAGE_BUTTON_HELP_ID,
    IMAGE_BUTTON_OPTIONS_ID,
    IMAGE_BUTTON_EXIT_ID,
    IMAGE_MAIN_CLOUDS1_ID,
    IMAGE_MAIN_CLOUDS2_ID,
    IMAGE_MAIN_TITLE_ID,
    IMAGE_MAP_BACK_ID,
    IMAGE_MAIN_TOP_ID,
    IMAGE_MAIN_BOTTOM_ID,
    IMAGE_NUMBERS_ID,
    IMAGE_BUTTON_PAGESCROLL_ID,
    IMAGE_OVER_ID,
    IMAGE_LEVELCOMPLETE_ID,
    IMAGE_SIMPLE_BUT_ID,
    IMAGE_PARTICLES_ID,
    IMAGE_SNOW_ID,
    IMAGE_COLLGRAY_ID,
    IMAGE_GOLDCHAIN_ID,
    IMAGE_TIP_ID,
    IMAGE_DIALOG_ID,
    IMAGE_TIP_ARROW_ID,
    IMAGE_DIALOG_CIRCLE_ID,
    IMAGE_DIALOG_RECT_ID,
    IMAGE_TIME_IS_OVER_ID,
    IMAGE_LEVEL_COMPLETE_ID,
    IMAGE_TIME_BONUS_ID,
    IMAGE_RING_BLUE_ID,
    IMAGE_RING_GREEN_ID,
    IMAGE_RING_PURPLE_ID,
    IMAGE_RING_RED_ID,
    IMAGE_RING_YELLOW_ID,
    IMAGE_BLINK_COLL_ID,
    IMAGE_LIGHTNING_ID,
    IMAGE_EFFECTMODE_ID,
    IMAGE_HELP_BACK_ID,
    IMAGE_MAP_LEVEL_UNCOMPLETE_ID,
    IMAGE_MAP_LEVEL_COMPLETE_ID,
    RESOURCE_ID_MAX  // 71: no such resource
};

// Group "Init": fonts and cursor pictures.
extern Font* FONT_DEFAULT;
extern Font* FONT_DIREVIR;
extern Font* FONT_DEFAULTBOLD;
extern Font* FONT_DEFAULT12;
extern Font* FONT_DEFAULTSMALL;
extern Font* FONT_DEFAULT7;
extern Font* FONT_DEFAULT16;
extern Font* FONT_DEFAULT_ADD;
extern Font* FONT_NUMBERS;
extern Image* IMAGE_CUSTOM_POINTER;
extern Image* IMAGE_CUSTOM_HAND;
extern Image* IMAGE_CUSTOM_DRAGGING;
extern Image* IMAGE_CUSTOM_TEXT;
// Group "TitleScreen": released again when the title screen is left, after
// which these two point to released pictures and must not be used.
extern Image* IMAGE_TITLE_BACK;
extern Image* IMAGE_TITLE_PROGRESS;
// Group "Game": two sounds (sound ids of the resource manager) and the pictures.
extern int SOUND_MUTATOR;
extern int SOUND_TIMER;
extern Image* IMAGE_CHECKBOX;
extern Image* IMAGE_DIALOG_BOX;
extern Image* IMAGE_DIALOG_SELECTUSER;
extern Image* IMAGE_DIALOG_BUTTON;
extern Image* IMAGE_BUTTON_BOARD_HINT;
extern Image* IMAGE_BUTTON_BOARD_MENU;
extern Image* IMAGE_BUTTON_BOARD_SHUFFLE;
extern Image* IMAGE_BUTTON_BOARD_UNDO;
extern Image* IMAGE_SLIDER_TRACK;
extern Image* IMAGE_SLIDER_THUMB;
extern Image* IMAGE_DIALOG_USER;
extern Image* IMAGE_SPARKLE;
extern Image* IMAGE_MAIN_STAR_SPARKLE;
extern Image* IMAGE_GAME_BACK;
extern Image* IMAGE_BUTTON_PLAY;
extern Image* IMAGE_BUTTON_SIMPLE;
extern Image* IMAGE_BUTTON_HIGHSCORES;
extern Image* IMAGE_BUTTON_HELP;
extern Image* IMAGE_BUTTON_OPTIONS;
extern Image* IMAGE_BUTTON_EXIT;
extern Image* IMAGE_MAIN_CLOUDS1;
extern Image* IMAGE_MAIN_CLOUDS2;
extern Image* IMAGE_MAIN_TITLE;
extern Image* IMAGE_MAP_BACK;
extern Image* IMAGE_MAIN_TOP;
extern Image* IMAGE_MAIN_BOTTOM;
extern Image* IMAGE_NUMBERS;
extern Image* IMAGE_BUTTON_PAGESCROLL;
extern Image* IMAGE_OVER;
extern Image* IMAGE_LEVELCOMPLETE;
extern Image* IMAGE_SIMPLE_BUT;
extern Image* IMAGE_PARTICLES;
extern Image* IMAGE_SNOW;
extern Image* IMAGE_COLLGRAY;
extern Image* IMAGE_GOLDCHAIN;
extern Image* IMAGE_TIP;
extern Image* IMAGE_DIALOG;
extern Image* IMAGE_TIP_ARROW;
extern Image* IMAGE_DIALOG_CIRCLE;
extern Image* IMAGE_DIALOG_RECT;
extern Image* IMAGE_TIME_IS_OVER;
extern Image* IMAGE_LEVEL_COMPLETE;
extern Image* IMAGE_TIME_BONUS;
extern Image* IMAGE_RING_BLUE;
extern Image* IMAGE_RING_GREEN;
extern Image* IMAGE_RING_PURPLE;
extern Image* IMAGE_RING_RED;
extern Image* IMAGE_RING_YELLOW;
extern Image* IMAGE_BLINK_COLL;
extern Image* IMAGE_LIGHTNING;
extern Image* IMAGE_EFFECTMODE;
extern Image* IMAGE_HELP_BACK;
extern Image* IMAGE_MAP_LEVEL_UNCOMPLETE;
extern Image* IMAGE_MAP_LEVEL_COMPLETE;

// Where the bind steps fetch resources from: the resource manager, seen through
// a small adapter (it catches the manager's ResourceManagerException and, for
// pictures, takes the picture out of the shared handle and releases the
// handle). Each fetch returns false when the manager has no such resource.
class ResourceSource {
public:
    virtual ~ResourceSource() = default;
    virtual bool FetchFont(const std::string& id, Font*& font) = 0;
    virtual bool FetchImage(const std::string& id, Image*& image) = 0;
    virtual bool FetchSound(const std::string& id, int& sound) = 0;
};

// The variable of an id as a pointer-sized value (a Font*, an Image* or a sound
// id); 0 for an id outside 0..70.
intptr_t GetResourceById(int id);
// The name of an id; "" for any value outside 0..70.
std::string GetResourceNameById(int id);
// The id of a name (exact, case-sensitive), or RESOURCE_ID_MAX (71) for any
// other name, "" included.
int GetResourceIdByName(const char* name);

// Bind the resources of one group ("Init", "TitleScreen", "Game"): fonts first,
// then pictures, then sounds, each kind in byte order of the names. The first
// resource the source lacks stops the step with false; what was bound before
// stays bound and the rest keep their previous values.
bool BindInitResources(ResourceSource& source);
bool BindTitleScreenResources(ResourceSource& source);
bool BindGameResources(ResourceSource& source);

}  // namespace Velm
