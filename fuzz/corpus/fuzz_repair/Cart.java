package com.example.shop;

import com.example.util.MathUtil;
import java.util.ArrayList;
import java.util.List;

public class Cart {
    private final List<Item> items = new ArrayList<>();

    public void add(Item item) {
        if (item.getQuantity() <= 0 {
            return;
        }
        items.add(item);
    }

    public int totalCents() {
        int total = 0;
        for (Item item : items) {
            total += item.totalCents();
        }
        if (total > 10000 && items.size() >= 3 {
            total = MathUtil.percentOff(total, 5);
        }
        return total;
    }

    public boolean isEmpty() {
        return items.isEmpty();
    }
}
