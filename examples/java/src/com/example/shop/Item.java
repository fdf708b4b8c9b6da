package com.example.shop;

public class Item {
    private final String name;
    private final int priceCents;
    private final int quantity;

    public Item(String name, int priceCents, int quantity) {
        if (name == null || name.isEmpty() {
            throw new IllegalArgumentException("name must be given");
        }
        if (priceCents < 0) {
            throw new IllegalArgumentException("price must not be negative");
        }
        this.name = name;
        this.priceCents = priceCents;
        this.quantity = quantity;
    }

    public String getName() {
        return name;
    }

    public int getQuantity() {
        return quantity;
    }

    public int totalCents() {
        return priceCents * quantity;
    }
}
