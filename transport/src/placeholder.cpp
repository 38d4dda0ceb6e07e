// Placeholder so the library builds before its first source lands; delete when a real .cpp exists.
