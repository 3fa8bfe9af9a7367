; comment

  Window.Background=#0a0B0c	; x
font.name = C#;Sharp ;y
list.text # = #000000
nonsense
