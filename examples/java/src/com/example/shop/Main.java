package com.example.shop;

import com.example.util.Strings;

public class Main {
    public static void main(String[] args) {
        Cart cart = new Cart();
        cart.add(new Item("pen", 150, 4));
        cart.add(new Item("paper", 499, 10));
        cart.add(new Item("ink", 2500, 2));
        if (cart.isEmpty()) {
            System.out.println("nothing to pay");
            return;
        }
        System.out.println(Strings.padLeft(String.valueOf(cart.totalCents()), 8) + " cents");
    }
}
