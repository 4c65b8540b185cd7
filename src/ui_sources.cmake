# The forms runtime, the screens and the scripted driver.
set(DSPLAB_UI_SOURCES
  forms/palette.cpp
  forms/form.cpp
  forms/prompt_box.cpp
  forms/runtime.cpp
  forms/driver.cpp
  forms/snapshot.cpp
  app/shared_state.cpp
  app/screen_setup.cpp
  app/start_form.cpp
  app/main_menu_form.cpp
  app/screens.cpp
  app/session.cpp
  synthesis/module1.cpp
  synthesis/synthesis_screen.cpp
  synthesis/square_form.cpp
)
