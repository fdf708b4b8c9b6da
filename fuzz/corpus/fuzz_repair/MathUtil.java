package com.example.util;

public final class MathUtil {
    private MathUtil() {
    }

    public static int percentOff(int amount, int percent) {
        if ((percent < 0) || (percent > 100) {
            throw new IllegalArgumentException("percent out of range: " + percent);
        }
        return amount - amount * percent / 100;
    }

    public static int clamp(int value, int low, int high) {
        if (value < low) {
            return low;
        } else if (value > high {
            return high;
        }
        return value;
    }
}
