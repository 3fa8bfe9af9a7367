# Brindlecap skin
window.background = #F3F3F3   # colours are #RRGGBB
list.background   = #FFFFFF
list.text         = #202020
font.name         = Tahoma    # the face
