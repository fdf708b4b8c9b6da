package com.example.util;

public final class Strings {
    private Strings() {
    }

    public static String padLeft(String text, int width) {
        StringBuilder sb = new StringBuilder();
        for (int i = text.length(); i < width; i++) {
            sb.append(' ');
        }
        return sb.append(text).toString();
    }

    public static boolean isBlank(String text) {
        if (text == null
                || text.trim().isEmpty()
        {
            return true;
        }
        return false;
    }
}
